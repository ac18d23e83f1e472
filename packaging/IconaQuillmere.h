// The program's icon, built into it as a resource: the window and message-box icon.
#pragma once

#include <QIcon>

// Every size drawn for the icon, so that small ones are not scaled down from a large one.
QIcon IconaQuillmere();
