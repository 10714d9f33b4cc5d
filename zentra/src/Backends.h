#pragma once

#include "zentra/Backend.h"

#include <memory>
#include <string>
#include <string_view>

// The kinds of interface behind the C API. Each maker checks the argument of its device string
// ("KIND:ARGUMENT"; empty when the string has no colon) and builds the backend, or returns null
// with a one-line message for the operator.
namespace zentra::detail {

using BackendMaker = std::shared_ptr<Backend> (*)(std::string_view argument, bool hasArgument,
                                                  std::string &error);

struct BackendKind
{
    std::string_view name; // the KIND part, lower case
    std::string_view form; // how an operator writes it, for help texts
    BackendMaker make;
    bool prioritised = false; // receivers choose between senders by the frames' priority
};

std::shared_ptr<Backend> MakeSimulation(std::string_view argument, bool hasArgument,
                                        std::string &error);
std::shared_ptr<Backend> MakeOla(std::string_view argument, bool hasArgument, std::string &error);
std::shared_ptr<Backend> MakeArtNet(std::string_view argument, bool hasArgument,
                                    std::string &error);
std::shared_ptr<Backend> MakeSacn(std::string_view argument, bool hasArgument, std::string &error);
std::shared_ptr<Backend> MakeUsbPro(std::string_view argument, bool hasArgument,
                                    std::string &error);

/// The backend behind the C API now.
std::shared_ptr<Backend> CurrentBackend();

/// The ids of backend's enumeration that fit the C API's buffers; longer ones cannot be passed.
std::vector<std::u16string> UsableIds(Backend &backend);

} // namespace zentra::detail
