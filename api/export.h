#pragma once
// What every api/ file includes: the public declarations and the guard.
#define PALORAN_BUILDING 1
#include "paloran.h"

#include "core/export_failures.h"
#include "engine/engine.h"
#include "core/guard.h"
#include "engine/engine.h"
