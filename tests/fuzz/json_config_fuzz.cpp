// The configuration file: any text is either refused with a message or loads; a loaded tree
// saves, the saved text loads again to an equal tree, and that tree saves to the same text.
// A thin harness over ParseConfig and FormatConfig, so that it follows the loader as it changes.
#include <cstdint>
#include <cstring>
#include <string>

#include "hostkit/JsonConfig.h"

#include "FuzzCheck.h"

namespace {

using hostkit::ConfigSection;

bool SameValue(const brin::Value& a, const brin::Value& b);

// The same entries in the same order, the same lists.
bool SameTree(const ConfigSection& a, const ConfigSection& b)
{
    const auto& x = a.Entries();
    const auto& y = b.Entries();
    if (x.size() != y.size())
        return false;
    for (size_t i = 0; i < x.size(); ++i)
        if (x[i].key != y[i].key || x[i].index != y[i].index || a.IsList(x[i].key) != b.IsList(y[i].key) ||
            !SameValue(*x[i].value, *y[i].value))
            return false;
    return true;
}

bool SameValue(const brin::Value& a, const brin::Value& b)
{
    if (a.GetType() != b.GetType())
        return false;
    switch (a.GetType()) {
    case brin::Node: {
        const auto* x = dynamic_cast<const ConfigSection*>(a.AsNode());
        const auto* y = dynamic_cast<const ConfigSection*>(b.AsNode());
        return x && y && SameTree(*x, *y);
    }
    case brin::Float:  // bit for bit: -0 stays -0
        return std::memcmp(&a.floatValue, &b.floatValue, sizeof(float)) == 0;
    case brin::Vector: return std::memcmp(a.vectorValue, b.vectorValue, sizeof a.vectorValue) == 0;
    default: return a.Equals(b);
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string text(reinterpret_cast<const char*>(data), size);
    std::string error;
    brin::CountedRef<ConfigSection> loaded = hostkit::ParseConfig(text, &error);
    if (!loaded) {
        FUZZ_CHECK(!error.empty());
        return 0;
    }
    std::string saved;
    FUZZ_CHECK(hostkit::FormatConfig(*loaded.get(), &saved, &error));
    brin::CountedRef<ConfigSection> reloaded = hostkit::ParseConfig(saved, &error);
    FUZZ_CHECK(reloaded);
    FUZZ_CHECK(SameTree(*loaded.get(), *reloaded.get()));
    std::string again;
    FUZZ_CHECK(hostkit::FormatConfig(*reloaded.get(), &again, &error));
    FUZZ_CHECK(again == saved);
    return 0;
}
