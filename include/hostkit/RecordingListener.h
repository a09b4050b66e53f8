// A listener that keeps every call in order and can act inside one (a host dropping its last
// reference on the window there, say).
#pragma once

#include <cstdint>
#include <functional>
#include <ostream>
#include <vector>

#include <toolwindows/IDlgListener.h>

namespace hostkit {

struct ListenerCall {
    enum Kind { Mouse, Changed, CloseRequest } kind;
    float x = 0, y = 0;   // Mouse
    uint32_t keys = 0;    // Mouse
    int32_t tracker = 0;  // Mouse
    int32_t value = 0;    // Changed

    static ListenerCall MouseAt(float x, float y, uint32_t keys, int32_t tracker)
    {
        return {Mouse, x, y, keys, tracker, 0};
    }
    static ListenerCall ChangedTo(int32_t value) { return {Changed, 0, 0, 0, 0, value}; }
    static ListenerCall Close() { return {CloseRequest}; }

    bool operator==(const ListenerCall&) const = default;
};

std::ostream& operator<<(std::ostream& out, const ListenerCall& call);

class RecordingListener final : public IDlgListener {
public:
    void OnMouse(float x, float y, uint32_t keys, int32_t tracker) override;
    void OnChanged(int32_t value) override;
    void OnCloseRequest() override;

    std::vector<ListenerCall> calls;
    std::function<void(const ListenerCall&)> during;  // run inside each call, after it is kept
};

}  // namespace hostkit
