#include "app/UiLock.h"

std::mutex UiLock;
