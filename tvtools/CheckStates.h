#pragma once

// The check states of a selection tree item (its state picture) and the ways
// CheckItem changes one.
namespace tvcheck {

inline constexpr int kNone = 0;           // no check box
inline constexpr int kUnchecked = 1;      // empty box
inline constexpr int kChecked = 2;        // blue tick
inline constexpr int kPartial = 3;        // grey tick: unchecked, some descendant checked
inline constexpr int kCheckedPartial = 4; // blue tick: checked, some descendant checked
inline constexpr int kUnavailable = 5;    // hatched box: never changed by the user or propagation
inline constexpr int kStateCount = 6;

inline constexpr int kCheck = 0;
inline constexpr int kUncheck = 1;
inline constexpr int kToggle = 2;
inline constexpr int kRecompute = 3; // from the children

inline constexpr bool IsValidState(long long state)
{
    return state >= kNone && state <= kUnavailable;
}
inline constexpr bool IsChecked(int state)
{
    return state == kChecked || state == kCheckedPartial;
}
inline constexpr bool IsCheckedOrSubChecked(int state)
{
    return state == kChecked || state == kPartial || state == kCheckedPartial;
}

// The state an item in `state` takes by CheckItem of `type`, before propagation.
// `childSet` tells whether some child is in a state other than 0 and 1 (only the
// recompute type looks at it). Items in 0 (no box) and 5 (unavailable) never change;
// nor does anything for an unknown type.
int NextState(int state, int type, bool childSet);

} // namespace tvcheck
