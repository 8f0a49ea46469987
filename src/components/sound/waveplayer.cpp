// The wave player interface has no code of its own; this unit carries its meta-object.
#include "components/sound/waveplayer.h"
