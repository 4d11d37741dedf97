// The value tree lives in the engine, which reads and writes projects as text with it.
#pragma once

#include "core/model/JsonValue.h"
