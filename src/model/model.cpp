#include "model.h"

// The records point into the resource table, which the members' destructors free.
_MODEL::~_MODEL() {}
