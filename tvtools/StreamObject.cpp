#include "StreamObject.h"

CStreamObject::~CStreamObject() = default;
