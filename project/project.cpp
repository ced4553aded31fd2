#include "project/project.h"
// Filled by the project-model work.
