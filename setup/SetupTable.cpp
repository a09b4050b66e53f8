#include "SetupTable.h"

#include <cfloat>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <limits>

namespace setup {

namespace {

// The float truncated toward zero, as a 32-bit integer. A float beyond that range has no such
// integer (the plain conversion is undefined): it shows the nearest one, and NaN shows 0.
int32_t TruncatedInt(float value)
{
    if (std::isnan(value))
        return 0;
    if (value >= 2147483648.0f)
        return std::numeric_limits<int32_t>::max();
    if (value <= -2147483648.0f)
        return std::numeric_limits<int32_t>::min();
    return static_cast<int32_t>(value);
}

// A double narrowed to float the way IEEE hardware does it: beyond the float range means
// infinity (which the plain conversion leaves undefined).
float Narrowed(double value)
{
    if (value > static_cast<double>(FLT_MAX))
        return std::numeric_limits<float>::infinity();
    if (value < -static_cast<double>(FLT_MAX))
        return -std::numeric_limits<float>::infinity();
    return static_cast<float>(value);
}

}  // namespace

ParamText FormatParam(ParamFormat format, float value)
{
    ParamText text{};
    switch (format) {
    case ParamFormat::Fixed2: std::snprintf(text.chars, sizeof(text.chars), "%.2f", static_cast<double>(value)); break;
    case ParamFormat::Truncated:
        std::snprintf(text.chars, sizeof(text.chars), "%d", static_cast<int>(TruncatedInt(value)));
        break;
    case ParamFormat::Rounded: std::snprintf(text.chars, sizeof(text.chars), "%.0f", static_cast<double>(value)); break;
    }
    return text;
}

float ParseParam(const std::string& text) { return Narrowed(std::atof(text.c_str())); }

std::vector<EditText> LoadParamTexts(brin::ConfigNode& root)
{
    std::vector<EditText> texts;
    texts.reserve(kLoadedEditCount);
    for (const ParamRow& row : kSetupParams) {
        if (row.kind == ParamKind::Vector) {
            float components[3] = {};
            root.ReadVector(row.key, &components[0], &components[1], &components[2], nullptr);
            for (int i = 0; i < 3; ++i)
                texts.push_back({row.controls[i], FormatParam(row.format, components[i]).chars});
        } else {
            texts.push_back({row.controls[0], FormatParam(row.format, root.ReadFloat(row.key)).chars});
        }
    }
    return texts;
}

void StoreParamTexts(brin::ConfigNode& root, const std::function<std::string(int control)>& textOf)
{
    for (const ParamRow* row : kStoreOrder.rows) {
        if (row->kind == ParamKind::Vector) {
            // All three edits are read before the value is made.
            const float x = ParseParam(textOf(row->controls[0]));
            const float y = ParseParam(textOf(row->controls[1]));
            const float z = ParseParam(textOf(row->controls[2]));
            root.Set(row->key, 0, new brin::Value(x, y, z, 0.0f));
            continue;
        }
        const std::string text = textOf(row->controls[0]);
        root.Set(row->key, 0, new brin::Value(ParseParam(text)));
        if (row->alsoAs)
            root.Set(row->alsoAs, 0, new brin::Value(ParseParam(text)));
    }
}

}  // namespace setup
