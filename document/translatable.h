// Marks an English text of the core for the program's translations. The core hands the text out
// as it is; the program looks it up under the context given here (Qt's own marker, which is
// defined the same way, so its tools find the texts here too).
#pragma once

#ifndef QT_TRANSLATE_NOOP
#define QT_TRANSLATE_NOOP(scope, x) x
#endif
