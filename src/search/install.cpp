#include "search/install.h"

#include "platform/appcontext.h"

namespace search {

void install(const AppContext& /*ctx*/) {
}

} // namespace search
