#pragma once

#include "db/Bad.h"
