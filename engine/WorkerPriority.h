#pragma once

// Gives the calling thread the priority of the preference "Priority", whose values
// follow the Windows thread priorities (-15 idle, -2 lowest, -1 below normal, 0
// normal, 1 above normal, 2 highest, 15 time critical), as a nice value. Raising the
// priority needs a privilege the user rarely has; the thread then keeps its own.
void SetWorkerThreadPriority(int preference);

// The nice value for a preference value.
int NiceValueOfPriority(int preference);
