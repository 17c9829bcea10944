#pragma once

#include "engine/base/Exception.h"

#include <gtest/gtest.h>

#include <functional>
#include <typeinfo>

namespace TestSupport
{

// Passes when the call throws exactly E (not a class derived from it) with the message and source tag.
template <typename E>
::testing::AssertionResult throwsWith(const std::function<void()>& call, const std::string& message,
                                      const std::string& file)
{
    try
    {
        call();
    }
    catch (const Fernhouse::Base::Exception& e)
    {
        if (typeid(e) != typeid(E))
        {
            return ::testing::AssertionFailure() << "wrong type: " << e.what();
        }
        if (e.getMessage() != message || e.getFile() != file)
        {
            return ::testing::AssertionFailure() << "threw \"" << e.getMessage() << "\" from " << e.getFile();
        }
        return ::testing::AssertionSuccess();
    }
    return ::testing::AssertionFailure() << "nothing thrown";
}

} // namespace TestSupport
