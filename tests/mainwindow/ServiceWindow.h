#pragma once
// A main window of its own for each case, opened with the fixture site as the service, the site's
// request log and modes cleared.
#include "support/FixtureSite.h"

#include "FormTestSupport.h"
#include "common/ServiceHosts.h"
#include <gtest/gtest.h>

namespace formtest {

class ServiceWindow : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(serviceSite().running()) << serviceSite().failure();
        ASSERT_TRUE(serviceSite().reset());
        form_ = openForm();
    }
    void TearDown() override {
        delete form_;
        // The compiled hosts again: later cases in this program expect the maker's to be unreachable.
        SetEnvironmentVariableW(kServiceHostVariable, nullptr);
        SetEnvironmentVariableW(kMakerHostVariable, nullptr);
        std::wstring message;
        EXPECT_TRUE(loadServiceHosts(message)) << message;
    }
    TForm1* form() const { return form_; }
    // Loads the user as if the name had been typed and waits until its count photos are shown.
    void load(const std::wstring& user, size_t count) {
        loadTyped(form_, user);
        ASSERT_TRUE(pumpUntil([&] { return loaded(form_, count); }, 30000)) << form_->visiblePhotos.size();
    }

private:
    WorkFolderSetting setting_;
    TForm1* form_ = nullptr;
};

}  // namespace formtest
