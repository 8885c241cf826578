#pragma once

#include <string>

namespace tbmtest {

// Root folder of this test process's private world. HOME, the XDG folders, TMPDIR
// and TBM_REGISTRY all point below it, so no test can reach the real user's data.
const std::string& TestRoot();

// Points HOME, XDG_*, TMPDIR and TBM_REGISTRY at fresh folders below a new root.
// Called once by the test main before any test runs.
void SetUpHermeticEnvironment();

// Removes the root unless a test failed (then it is kept for inspection).
void TearDownHermeticEnvironment(bool keep);

} // namespace tbmtest
