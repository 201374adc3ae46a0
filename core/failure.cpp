#include "core/failure.h"

namespace plr {

void fail(const char* what) { throw EngineFailure{what}; }

}  // namespace plr
