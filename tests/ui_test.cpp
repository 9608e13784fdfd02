#include "ui/form_main.h"

#include <gtest/gtest.h>

TEST(FormMainStartUp, Placeholder) { SUCCEED(); }
