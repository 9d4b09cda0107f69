#pragma once
// The Prompter lives in base, below every layer that talks to the user.
#include "base/prompter.h"
