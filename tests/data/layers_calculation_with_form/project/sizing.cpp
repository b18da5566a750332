#include "form/platform.h"
