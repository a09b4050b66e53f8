#include <hostkit/RecordingListener.h>

namespace hostkit {

std::ostream& operator<<(std::ostream& out, const ListenerCall& call)
{
    switch (call.kind) {
    case ListenerCall::Mouse:
        return out << "OnMouse(" << call.x << ", " << call.y << ", 0x" << std::hex << call.keys << std::dec << ", "
                   << call.tracker << ")";
    case ListenerCall::Changed: return out << "OnChanged(" << call.value << ")";
    case ListenerCall::CloseRequest: return out << "OnCloseRequest()";
    }
    return out << "?";
}

void RecordingListener::OnMouse(float x, float y, uint32_t keys, int32_t tracker)
{
    calls.push_back(ListenerCall::MouseAt(x, y, keys, tracker));
    if (during)
        during(ListenerCall(calls.back()));  // a copy: the action may add calls
}

void RecordingListener::OnChanged(int32_t value)
{
    calls.push_back(ListenerCall::ChangedTo(value));
    if (during)
        during(ListenerCall(calls.back()));  // a copy: the action may add calls
}

void RecordingListener::OnCloseRequest()
{
    calls.push_back(ListenerCall::Close());
    if (during)
        during(ListenerCall(calls.back()));  // a copy: the action may add calls
}

}  // namespace hostkit
