#pragma once
#include <string>
#include <utility>

namespace orvane {

// A failure a handler does not deal with itself. It carries the French text
// that the program's error box shows; the rest of the handler is abandoned.
class UserError {
public:
    explicit UserError(std::wstring text) : text_(std::move(text)) {}
    const std::wstring& text() const { return text_; }

private:
    std::wstring text_;
};

// A failure after which the process cannot be trusted (its memory was
// damaged): it is shown, then the program ends without writing anything.
class UnsoundProcessError : public UserError {
public:
    using UserError::UserError;
};

}  // namespace orvane
