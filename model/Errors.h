#pragma once
// The four ways an operation of the text model can fail. Every throwing
// operation leaves the model as it was before the failing step.
#include <stdexcept>
#include <string>

namespace mushaf {

class ModelError : public std::runtime_error {
public:
    ModelError(const std::string& kind, const std::string& detail)
        : std::runtime_error(detail.empty() ? kind : kind + ": " + detail) {}
};

class SubscriptOutOfRange : public ModelError {
public:
    explicit SubscriptOutOfRange(const std::string& detail) : ModelError("subscript out of range", detail) {}
};

class TypeMismatch : public ModelError {
public:
    explicit TypeMismatch(const std::string& detail) : ModelError("type mismatch", detail) {}
};

class Overflow : public ModelError {
public:
    explicit Overflow(const std::string& detail) : ModelError("overflow", detail) {}
};

class InvalidPattern : public ModelError {
public:
    explicit InvalidPattern(const std::string& detail) : ModelError("invalid pattern", detail) {}
};

}  // namespace mushaf
