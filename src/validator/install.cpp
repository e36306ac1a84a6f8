#include "validator/install.h"

#include "platform/appcontext.h"

namespace validator {

void install(const AppContext& /*ctx*/) {
}

} // namespace validator
