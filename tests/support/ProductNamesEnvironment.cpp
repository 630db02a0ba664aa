// Linked into every test program whose code under test reads the settings or makes TLS
// connections: it finds its settings file, registry key and test authority as the
// product's programs do.

#include "app/ProductNames.h"

#include <gtest/gtest.h>

namespace {

class ProductNamesEnvironment : public ::testing::Environment {
public:
    void SetUp() override { UseProductNames(); }
};

// GoogleTest owns registered environments and deletes them at exit.
[[maybe_unused]] ::testing::Environment* const kProductNames =
    ::testing::AddGlobalTestEnvironment(new ProductNamesEnvironment);

}  // namespace
