#include "countdowns/countdown_dialog.hpp"

#include "app/application.hpp"
#include "countdowns/countdowns_window.hpp"

namespace orvane {

ui::Window& TForm5::servedWindow() { return app().form4(); }

}  // namespace orvane
