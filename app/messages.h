// The program's own message box: caption "Orvik", a warning icon and an OK button.
#pragma once

#include <QString>

void OrvikMessage(const QString& text);
