#include "pages/group_page.h"

char GroupName[GroupNameSize] = "Quorvik";
