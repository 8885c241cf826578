#include "TvString.h"

// Defined here so the class's vtable lives in the library.
CTvString::~CTvString() = default;
