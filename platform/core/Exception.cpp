#include "platform/core/Exception.h"
