#include "OrinGlobal.h"

namespace orinsub::model {

COrinGlobal g_orin;

} // namespace orinsub::model
