#pragma once

// The module that moves the eight rows to and from exported files.
#include "settings/csv_export.h"
#include "settings/csv_import.h"
