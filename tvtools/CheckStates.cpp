#include "CheckStates.h"

namespace tvcheck {

namespace {

int Checked(int state)
{
    return state == kUnchecked ? kChecked : state == kPartial ? kCheckedPartial : state;
}

int Unchecked(int state)
{
    return state == kChecked ? kUnchecked : state == kCheckedPartial ? kPartial : state;
}

int Recomputed(int state, bool childSet)
{
    if (childSet)
        return state == kChecked ? kCheckedPartial : state == kUnchecked ? kPartial : state;
    return state == kCheckedPartial ? kChecked : state == kPartial ? kUnchecked : state;
}

} // namespace

int NextState(int state, int type, bool childSet)
{
    // An item without a box has nothing to toggle: it must not grow one (and count as
    // checked) because someone pressed Space on it or called CheckAll.
    if (state == kNone || state == kUnavailable)
        return state;
    switch (type) {
    case kCheck:
        return Checked(state);
    case kUncheck:
        return Unchecked(state);
    case kToggle:
        return IsChecked(state) ? Unchecked(state) : Checked(state);
    case kRecompute:
        return Recomputed(state, childSet);
    default:
        return state;
    }
}

} // namespace tvcheck
