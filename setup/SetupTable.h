// The setup editor's global parameters: which key goes to which edit, how it is shown, and the
// orders in which the editor loads and stores them. Free of window types, so the formatting,
// the parsing and the two passes over a configuration tree are built and tested natively.
#pragma once

#include <cstdint>
#include <functional>
#include <iterator>
#include <string>
#include <string_view>
#include <vector>

#include <brin/ConfigNode.h>
#include <toolwindows/ConfigKeys.h>

#include "../resources/setup_ids.h"

namespace setup {

// What the operator changed since the last Load or Update; the word the listener is given.
enum ChangeFlags : uint32_t {
    TexturesChanged = 1,  // a cube map or bump map name was replaced
    ParamsChanged = 2,    // Update was pressed
};

enum class ParamKind {
    Number,  // a Float value in one edit
    Vector,  // a Vector value, components 0..2 in three edits, component 3 stored as 0
};

enum class ParamFormat {
    Fixed2,     // "%.2f"
    Truncated,  // "%d" of the float truncated toward zero
    Rounded,    // "%.0f"
};

struct ParamRow {
    const char* key;
    ParamKind kind;
    int controls[3];  // one edit for a number, three for the vector
    ParamFormat format;
    int load;            // position in the order Load fills the edits
    int store;           // position in the order Update writes the keys
    const char* alsoAs;  // written a second time, right after, under this key; or null
};

// Short names for the table below.
constexpr ParamKind N = ParamKind::Number;
constexpr ParamKind V = ParamKind::Vector;
constexpr ParamFormat F2 = ParamFormat::Fixed2;

// Every key is found and set with entry index 0 on the configuration root, as written here.
constexpr ParamRow kSetupParams[] = {
    //   key                          kind  control(s)                                        shown as load store second
    //   write
    {"Portes.sprites_repulse", N, {IDC_SPRITES_REPULSE}, F2, 1, 17, nullptr},
    {"Portes.sprites_scale", N, {IDC_SPRITES_SCALE}, F2, 2, 16, nullptr},
    {"Portes.refractscale", N, {IDC_REFRACTSCALE}, F2, 3, 18, nullptr},
    {"Portes.sprites_small", N, {IDC_SPRITES_SMALL}, F2, 4, 19, nullptr},
    {"Portes.membrane_gap", N, {IDC_MEMBRANE_GAP}, F2, 5, 20, nullptr},
    {"Portes.max_sprites", N, {IDC_MAX_SPRITES}, ParamFormat::Truncated, 6, 21, nullptr},
    {"Portes.tau_reac", V, {IDC_TAU_REAC_0, IDC_TAU_REAC_1, IDC_TAU_REAC_2}, F2, 7, 15, nullptr},
    {"Portes.volumeduration", N, {IDC_VOLUMEDURATION}, F2, 8, 1, nullptr},
    {"Portes.maxvolume", N, {IDC_MAXVOLUME}, F2, 9, 2, nullptr},
    {"Portes.lifetime", N, {IDC_LIFETIME}, F2, 10, 3, nullptr},
    {"Portes.fade_duration", N, {IDC_FADE_DURATION}, F2, 11, 4, nullptr},
    {"Portes.inflate_duration", N, {IDC_INFLATE_DURATION}, F2, 12, 5, nullptr},
    {"Portes.trans_latency", N, {IDC_TRANS_LATENCY}, F2, 13, 6, nullptr},
    {"Portes.trans_latency2", N, {IDC_TRANS_LATENCY2}, F2, 14, 7, nullptr},
    {"Portes.trans_duration", N, {IDC_TRANS_DURATION}, F2, 15, 8, nullptr},
    {"Portes.trans_attractor", N, {IDC_TRANS_ATTRACTOR}, F2, 16, 9, nullptr},
    {"Portes.trans_delay_near", N, {IDC_TRANS_DELAY_NEAR}, F2, 17, 10, nullptr},
    {"Portes.trans_delay_far", N, {IDC_TRANS_DELAY_FAR}, F2, 18, 11, nullptr},
    {"Portes.trans_threshold", N, {IDC_TRANS_THRESHOLD}, F2, 19, 12, nullptr},
    {"Portes.trans_thresholdmax", N, {IDC_TRANS_THRESHOLDMAX}, F2, 20, 13, nullptr},
    {"Portes.fadembr_duration", N, {IDC_FADEMBR_DURATION}, F2, 21, 14, nullptr},
    {"Portes.noact_timeout", N, {IDC_NOACT_TIMEOUT}, F2, 22, 22, nullptr},
    {"Portes.phase_speed", N, {IDC_PHASE_SPEED}, F2, 23, 23, nullptr},
    {"Portes.phase_amp", N, {IDC_PHASE_AMP}, F2, 24, 24, nullptr},
    {"Portes.phase_freq", N, {IDC_PHASE_FREQ}, F2, 25, 25, nullptr},
    {"Portes.mbr_tau", N, {IDC_MBR_TAU}, F2, 26, 26, nullptr},
    {"Portes.cullback", N, {IDC_CULLBACK}, F2, 27, 27, "Clients.cullback"},
    {"Trackers.minSz", N, {IDC_TRACKERS_MINSZ}, F2, 28, 29, nullptr},
    {"Trackers.maxSz", N, {IDC_TRACKERS_MAXSZ}, F2, 29, 30, nullptr},
    {"Trackers.minDens", N, {IDC_TRACKERS_MINDENS}, F2, 30, 31, nullptr},
    {"Trackers.maxDens", N, {IDC_TRACKERS_MAXDENS}, F2, 31, 32, nullptr},
    {"Trackers.nearz", N, {IDC_TRACKERS_NEARZ}, F2, 32, 33, nullptr},
    {"Trackers.farz", N, {IDC_TRACKERS_FARZ}, F2, 33, 34, nullptr},
    {"Trackers.amplitudey", N, {IDC_TRACKERS_AMPLITUDEY}, F2, 34, 35, nullptr},
    {"Trackers.frequencey", N, {IDC_TRACKERS_FREQUENCEY}, F2, 35, 36, nullptr},
    {"Global.socketfreq", N, {IDC_SOCKETFREQ}, ParamFormat::Rounded, 36, 37, nullptr},
};

constexpr int kParamCount = static_cast<int>(std::size(kSetupParams));  // 36 keys
constexpr int kLoadedEditCount = 38;                                    // the vector shows three components
constexpr int kStoredValueCount = 37;                                   // "Portes.cullback" is written twice

// The rows in store order, built from the table's store positions; the second write of a row
// takes the position right after its own, which no row holds.
struct StoreOrder {
    const ParamRow* rows[kParamCount];
};

constexpr StoreOrder MakeStoreOrder()
{
    StoreOrder order{};
    int next = 0;
    for (int position = 1; position <= kStoredValueCount; ++position)
        for (const ParamRow& row : kSetupParams)
            if (row.store == position)
                order.rows[next++] = &row;
    return order;
}

constexpr bool TableIsConsistent()
{
    bool taken[kStoredValueCount + 1] = {};
    int edits = 0;
    for (int i = 0; i < kParamCount; ++i) {
        const ParamRow& row = kSetupParams[i];
        if (row.load != i + 1)
            return false;
        edits += row.kind == ParamKind::Vector ? 3 : 1;
        for (int position : {row.store, row.alsoAs ? row.store + 1 : 0}) {
            if (position == 0)
                continue;
            if (position < 1 || position > kStoredValueCount || taken[position])
                return false;
            taken[position] = true;
        }
    }
    for (int position = 1; position <= kStoredValueCount; ++position)
        if (!taken[position])
            return false;
    return edits == kLoadedEditCount;
}
static_assert(TableIsConsistent(), "load positions run 1..36; the writes take store positions 1..37 once each");

// The table and the public list of keys agree: every key written here is listed with the kind
// of value the editor reads and writes, and every root number or vector listed is written here.
constexpr bool TableMatchesConfigKeys()
{
    using toolwindows::IsConfigKey;
    using toolwindows::KeyScope;
    using toolwindows::KeyType;
    std::size_t numbers = 0, vectors = 0;
    for (int i = 0; i < kParamCount; ++i) {
        const ParamRow& row = kSetupParams[i];
        const bool vector = row.kind == ParamKind::Vector;
        if (!IsConfigKey(KeyScope::Root, row.key, vector ? KeyType::Vector : KeyType::Float))
            return false;
        if (row.alsoAs && !IsConfigKey(KeyScope::Root, row.alsoAs, KeyType::Float))
            return false;
        for (int j = 0; j < i; ++j)
            if (std::string_view(kSetupParams[j].key) == row.key)
                return false;
        (vector ? vectors : numbers) += 1;
        numbers += row.alsoAs ? 1 : 0;
    }
    return numbers == toolwindows::CountConfigKeys(KeyScope::Root, KeyType::Float) &&
           vectors == toolwindows::CountConfigKeys(KeyScope::Root, KeyType::Vector);
}
static_assert(TableMatchesConfigKeys(), "every parameter is a listed key of its kind, and every listed one is here");

constexpr StoreOrder kStoreOrder = MakeStoreOrder();

// Room for any float with two decimals ("-3.4e38" written out is 42 characters), with margin.
struct ParamText {
    char chars[64];
};

ParamText FormatParam(ParamFormat format, float value);

// atof's reading of an edit's text, narrowed to float: leading blanks skipped, the longest
// prefix that is a number taken, 0 when there is none.
float ParseParam(const std::string& text);

struct EditText {
    int control;
    std::string text;
};

// The 38 edit texts of the configuration under `root`, in load order. An absent number, or a
// value of another tag, shows 0 in its format; so do the three components of an absent vector.
std::vector<EditText> LoadParamTexts(brin::ConfigNode& root);

// Parses every edit (whatever its text) and writes the 37 values into `root`, in store order,
// each a new value owned by the tree from then on. `textOf` gives an edit's text by control id.
void StoreParamTexts(brin::ConfigNode& root, const std::function<std::string(int control)>& textOf);

}  // namespace setup
