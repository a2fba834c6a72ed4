// Input polls: fuzzed bindings, mouse events, keyboard and joystick states
// through the firing rules. Every code has a display name (maybe ""), the
// cursor stays on the screen, and only bound actions fire.
#include "input/tavInputMap.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <cmath>
#include <cstdlib>
#include <set>
#include <vector>

namespace
{
class Listener : public tavInputMap::tavListener
{
public:
    explicit Listener(const std::set<uint32_t>& bound) : bound(bound) {}
    void OnAction(uint32_t action, int32_t) override
    {
        if (!bound.count(action)) abort();
    }
    bool OnLeftButton(bool) override { return takeLeft; }
    bool takeLeft = false;

private:
    const std::set<uint32_t>& bound;
};

void Bind(FuzzedDataProvider& in, tavInputMap& map, std::set<uint32_t>& actions, uint32_t now)
{
    for (int n = in.ConsumeIntegralInRange<int>(0, 12); n > 0; --n)
    {
        const uint32_t code = in.ConsumeIntegralInRange<uint32_t>(0, 500);
        const uint32_t action = in.ConsumeIntegral<uint8_t>();
        map.Bind(code, action, in.ConsumeIntegralInRange<uint32_t>(0, 2000), now);
        actions.insert(action);
        if (in.ConsumeBool()) map.Unbind(in.ConsumeIntegralInRange<uint32_t>(0, 500));
    }
}

std::vector<tavInputMap::tavMouseEvent> MouseEvents(FuzzedDataProvider& in)
{
    std::vector<tavInputMap::tavMouseEvent> events(in.ConsumeIntegralInRange<size_t>(0, 15));
    for (tavInputMap::tavMouseEvent& e : events)
    {
        e.kind = tavInputMap::tavMouseEvent::Kind(in.ConsumeIntegralInRange<int>(0, 3));
        e.button = in.ConsumeIntegral<uint8_t>();
        e.value = in.ConsumeIntegral<int32_t>();
    }
    return events;
}

void Joystick(FuzzedDataProvider& in, tavInputMap::tavJoystickState& joy)
{
    for (int32_t& a : joy.axis) a = in.ConsumeIntegral<int32_t>();
    for (int32_t& s : joy.slider) s = in.ConsumeIntegral<int32_t>();
    for (uint32_t& p : joy.pov) p = in.ConsumeIntegral<uint32_t>();
    for (uint8_t& b : joy.button) b = in.ConsumeIntegral<uint8_t>();
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    FuzzedDataProvider in(data, size);
    if (!tavInputMap::GetKeyName(in.ConsumeIntegral<uint32_t>())) abort();

    tavInputMap map;
    std::set<uint32_t> actions;
    Listener listener(actions);
    const float width = in.ConsumeFloatingPointInRange<float>(0.0f, 4096.0f);
    const float height = in.ConsumeFloatingPointInRange<float>(0.0f, 4096.0f);
    uint32_t now = 0;
    bool moved = false; // the cursor starts where the engine puts it, then is clamped on a move
    while (in.remaining_bytes() > 0)
    {
        Bind(in, map, actions, now);
        listener.takeLeft = in.ConsumeBool();
        map.BeginPoll();
        const std::vector<tavInputMap::tavMouseEvent> events = MouseEvents(in);
        map.ReadMouse(events.data(), events.size(), width, height, listener);
        for (const tavInputMap::tavMouseEvent& e : events)
            moved |= e.kind == tavInputMap::tavMouseEvent::MoveX || e.kind == tavInputMap::tavMouseEvent::MoveY;
        if (moved && !(map.GetCursorX() >= 0 && map.GetCursorX() <= width && map.GetCursorY() >= 0 &&
              map.GetCursorY() <= height))
            abort();
        tavInputMap::tavKeyboardState keys{};
        in.ConsumeData(keys.key, sizeof keys.key);
        tavInputMap::tavJoystickState joy{};
        const bool withJoystick = in.ConsumeBool();
        if (withJoystick) Joystick(in, joy);
        now += in.ConsumeIntegral<uint16_t>();
        map.Fire(keys, withJoystick ? &joy : nullptr, nullptr, now, listener);
    }
    return 0;
}
