#include "app/editcommands.h"

#include "platform/appcontext.h"

void installEditCommands(const AppContext& /*ctx*/) {
    // The Edit menu, printing and full screen are attached here.
}
