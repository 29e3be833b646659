#pragma once

#include "app/Fine.h"
