#include "assist/parts.h"

namespace assist {
void installTagCommands(const AppContext& /*ctx*/) {}
} // namespace assist
