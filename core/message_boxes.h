// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>

namespace numbrook {

enum class Buttons { Ok, OkCancel };
enum class Answer { Ok, Cancel };

// Every message box of the program goes through here, so that a test can answer it.
// Texts are UTF-8. An empty title means the application's own title.
// Boxes are modal and have no icon; OK is the default button. Closing a box
// counts as Cancel.
class MessageBoxes {
public:
    virtual ~MessageBoxes() = default;
    virtual Answer show(const std::string& text, const std::string& title, Buttons buttons) = 0;
};

}  // namespace numbrook
