#include "assist/parts.h"

namespace assist {
void installEditorInput(const AppContext& /*ctx*/) {}
} // namespace assist
