#pragma once

#include <QIcon>

// The tester window's own icon: a handheld unit with a signal, drawn rather than shipped.
QIcon TesterIcon();
