#include "screens/shell/screenprompts.h"
#include "tests/support/testenv.h"

// Every screen test shows its messages through the screens, as the program does.
static const bool screensPrepared = (TestEnv::setExtraPreparation(&ScreenPrompts::installForProcess), true);
