// main() of the GUI tests: GTK is initialised once for the process; the tests
// run on the Xvfb server that run_sealed.sh starts for each test case.
#include <gtest/gtest.h>
#include <gtkmm.h>

#include <cstdlib>

int main(int argc, char** argv)
{
    testing::InitGoogleTest(&argc, argv);
    // Listing the tests needs no display and touches none.
    if (testing::GTEST_FLAG(list_tests))
        return RUN_ALL_TESTS();
    if (!std::getenv("DISPLAY") && !std::getenv("WAYLAND_DISPLAY")) {
        fprintf(stderr, "No display: run the GUI tests through ctest (tools/test.sh)\n");
        return 1;
    }
    auto app = Gtk::Application::create("org.brackwater.Quorvane.Test", Gio::APPLICATION_NON_UNIQUE);
    app->register_application();
    return RUN_ALL_TESTS();
}
