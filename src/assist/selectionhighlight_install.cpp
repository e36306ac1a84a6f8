#include "assist/parts.h"

namespace assist {
void installSelectionHighlighting(const AppContext& /*ctx*/) {}
} // namespace assist
