// The setup table: edit texts parsed as atof reads them, floats shown in each format and read
// back within what that format keeps, and Load and Update over a tree of any shape.
#include <cfloat>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <map>
#include <set>
#include <string>

#include "hostkit/ConfigSection.h"
#include "setup/SetupTable.h"

#include "FuzzCheck.h"

using namespace setup;

namespace {

constexpr ParamFormat kFormats[] = {ParamFormat::Fixed2, ParamFormat::Truncated, ParamFormat::Rounded};

float AnyFloat(FuzzedDataProvider& in)
{
    const uint32_t bits = in.ConsumeIntegral<uint32_t>();
    float f;
    std::memcpy(&f, &bits, sizeof f);
    return f;
}

bool SameFloat(float a, float b) { return std::memcmp(&a, &b, sizeof a) == 0 || (std::isnan(a) && std::isnan(b)); }

std::string Shown(ParamFormat format, float f) { return FormatParam(format, f).chars; }

// The gap between floats at f's magnitude (the larger one, above).
long double Ulp(float f)
{
    if (f == 0 || !std::isnormal(f))
        return std::ldexp(1.0L, -149);
    return std::ldexp(1.0L, std::ilogb(f) - 23);
}

// What a shown text keeps of the float: "%.2f" is within 0.005 of it, and the text's own float
// within half a gap more; "%d" of the float truncated toward zero, held to the 32-bit range;
// "%.0f" within 0.5. Texts never change on a second round, so Update with untouched edits
// stores what Load showed.
void CheckShownValueReadsBack(ParamFormat format, float f)
{
    const std::string text = Shown(format, f);
    FUZZ_CHECK(text.size() <= 48);  // "-3.4e38" written out with two decimals is 43
    const float g = ParseParam(text);
    FUZZ_CHECK(Shown(format, g) == text);

    const long double exact = f, back = g;
    constexpr long double kIntLimit = 2147483648.0L;
    if (format == ParamFormat::Truncated) {
        if (std::isnan(f))
            FUZZ_CHECK(g == 0);
        else if (exact >= kIntLimit || exact <= -kIntLimit)
            FUZZ_CHECK(back == std::copysign(kIntLimit, exact));
        else
            FUZZ_CHECK(std::fabs(back) <= std::fabs(exact) && std::fabs(exact - back) < 1 &&
                       (g == 0 || std::signbit(g) == std::signbit(f)));
        return;
    }
    if (std::isnan(f) || std::isinf(f)) {
        FUZZ_CHECK(SameFloat(f, g) || (std::isnan(f) && std::isnan(g)));
        return;
    }
    const long double tolerance = format == ParamFormat::Fixed2 ? 0.005L + Ulp(f) / 2 : 0.5L;
    FUZZ_CHECK(std::fabs(back - exact) <= tolerance * (1 + 1e-12L));
}

// A float written with every digit, in decimal or in hex, parses back to itself.
void CheckExactTextsParseExactly(float f)
{
    for (const char* format : {"%.17g", "%a"}) {
        char text[64];
        std::snprintf(text, sizeof text, format, static_cast<double>(f));
        FUZZ_CHECK(SameFloat(ParseParam(text), f));
    }
}

void CheckParse(const std::string& text)
{
    const float f = ParseParam(text);
    FUZZ_CHECK(SameFloat(ParseParam(" \t\n" + text), f));  // leading white space is skipped
    for (ParamFormat format : kFormats)
        CheckShownValueReadsBack(format, f);
}

// A tree with table keys (and the sections above them) holding values of any tag.
void Populate(hostkit::ConfigSection& root, FuzzedDataProvider& in)
{
    static const char* const kSections[] = {"Portes", "Trackers", "Global", "Clients"};
    const int count = in.ConsumeIntegralInRange(0, 24);
    for (int n = 0; n < count; ++n) {
        const int pick = in.ConsumeIntegralInRange(0, kParamCount + 1);
        const char* key = pick < kParamCount    ? kSetupParams[pick].key
                          : pick == kParamCount ? "Clients.cullback"
                                                : in.PickValueInArray(kSections);
        brin::Value* value;
        switch (in.ConsumeIntegralInRange(0, 5)) {
        case 0: value = new brin::Value(AnyFloat(in)); break;
        case 1: value = hostkit::MakeIntValue(in.ConsumeIntegral<int32_t>()); break;
        case 2: value = new brin::Value(in.ConsumeBool()); break;
        case 3: value = new brin::Value(AnyFloat(in), AnyFloat(in), AnyFloat(in), AnyFloat(in)); break;
        case 4: value = new brin::Value(in.ConsumeRandomLengthString(16).c_str()); break;
        default: value = hostkit::MakeNodeValue(hostkit::ConfigSection::Make()); break;
        }
        root.Set(key, in.ConsumeIntegralInRange(0, 1), value);
    }
}

// A key whose first step holds something other than a section cannot be written.
bool Blocked(hostkit::ConfigSection& root, const char* key)
{
    const std::string head(key, std::strchr(key, '.'));
    const brin::Value* v = root.Find(head.c_str(), 0);
    return v && !(v->IsType(brin::Node) && v->AsNode());
}

void CheckLoadAndUpdate(FuzzedDataProvider& in)
{
    brin::CountedRef<hostkit::ConfigSection> holder(hostkit::ConfigSection::Make());
    hostkit::ConfigSection& root = *holder.get();
    Populate(root, in);

    const std::vector<EditText> shown = LoadParamTexts(root);
    FUZZ_CHECK(shown.size() == static_cast<size_t>(kLoadedEditCount));
    std::map<int, std::string> texts;
    std::map<int, ParamFormat> formats;
    std::map<int, const char*> keys;
    size_t at = 0;
    for (const ParamRow& row : kSetupParams)
        for (int k = 0; k < (row.kind == ParamKind::Vector ? 3 : 1); ++k) {
            FUZZ_CHECK(shown[at].control == row.controls[k]);
            FUZZ_CHECK(Shown(row.format, ParseParam(shown[at].text)) == shown[at].text);
            texts[row.controls[k]] = shown[at].text;
            formats[row.controls[k]] = row.format;
            keys[row.controls[k]] = row.key;
            ++at;
        }

    // Update with the edits as Load left them shows the same again, whatever the tree held.
    std::set<int> asked;
    StoreParamTexts(root, [&](int control) {
        FUZZ_CHECK(texts.count(control) == 1 && asked.insert(control).second);
        return texts[control];
    });
    FUZZ_CHECK(asked.size() == texts.size());
    const std::vector<EditText> again = LoadParamTexts(root);
    for (size_t k = 0; k < again.size(); ++k)
        FUZZ_CHECK(again[k].control == shown[k].control && again[k].text == shown[k].text);

    // Update with any texts: Load shows each one as its format shows the number read from it.
    std::map<int, bool> blocked;
    for (const auto& [control, key] : keys)
        blocked[control] = Blocked(root, key);
    std::map<int, std::string> typed;
    StoreParamTexts(root, [&](int control) {
        std::string text =
            in.ConsumeBool() ? in.ConsumeRandomLengthString(24) : Shown(ParamFormat::Fixed2, AnyFloat(in));
        typed[control] = text;
        return text;
    });
    for (const EditText& edit : LoadParamTexts(root)) {
        const float expected = blocked[edit.control] ? 0.0f : ParseParam(typed[edit.control]);
        FUZZ_CHECK(edit.text == Shown(formats[edit.control], expected));
    }
    if (!Blocked(root, "Clients.cullback") && !Blocked(root, "Portes.cullback")) {
        const brin::Value* portes = root.Find("Portes.cullback", 0);
        const brin::Value* clients = root.Find("Clients.cullback", 0);
        FUZZ_CHECK(portes && clients && portes->IsType(brin::Float) && clients->IsType(brin::Float));
        FUZZ_CHECK(SameFloat(portes->AsFloat(), clients->AsFloat()));
    }
}

}  // namespace

// An input that starts with 'T' is an edit's text as typed (the rest of it); any other input
// is read as floats, or as a tree and the texts of two Updates.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size > 0 && data[0] == 'T') {
        CheckParse(std::string(reinterpret_cast<const char*>(data) + 1, size - 1));
        return 0;
    }
    FuzzedDataProvider in(data, size);
    switch (in.ConsumeIntegralInRange(0, 1)) {
    case 0:
        while (in.remaining_bytes() >= 4) {
            const float f = AnyFloat(in);
            CheckExactTextsParseExactly(f);
            for (ParamFormat format : kFormats)
                CheckShownValueReadsBack(format, f);
        }
        break;
    default: CheckLoadAndUpdate(in); break;
    }
    return 0;
}
