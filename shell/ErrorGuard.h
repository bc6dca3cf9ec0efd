#pragma once
// Runs a user action: an engine error ends it with the standard error box, a declined
// confirmation ends it silently. The program goes on either way.
#include <functional>

class Prompter;

// The prompter the guard reports through; set once by the program (and by each test).
void setErrorPrompter(Prompter* prompter);
Prompter* errorPrompter();
// True when the action ran to its end.
bool runGuarded(const std::function<void()>& action);
