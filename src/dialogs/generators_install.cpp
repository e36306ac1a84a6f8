#include "dialogs/parts.h"

namespace dialogs {
void installGeneratorDialogs(const AppContext& /*ctx*/) {}
} // namespace dialogs
