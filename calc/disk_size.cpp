#include "calc/disk_size.h"
