#include "dialogs/parts.h"

namespace dialogs {
void installHeadAndLinkDialogs(const AppContext& /*ctx*/) {}
} // namespace dialogs
