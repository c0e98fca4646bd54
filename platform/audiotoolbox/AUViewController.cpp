#include "audiotoolbox/AUViewController.h"

// Out of line, so the class's type information lives here and is the same in the
// host and in every module.
AUViewController::~AUViewController() = default;
