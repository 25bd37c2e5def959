// TPxhl against the registered control: properties by dispatch id, the IDownloadX methods with
// their texts, Tag, and what happens when the control cannot be made.
#include "AxHostTestSupport.h"

#include <gtest/gtest.h>

#include <memory>

#include "gui/Exception.h"
#include "gui/OleValues.h"
#include "gui/TPxhl.h"

using namespace gui;

TEST(PxhlWrapper, PropertiesByDispatchIdStartAtTheControlsDefaultsAndReadBackWhatThePoolPuts) {
    TComponent owner(nullptr);
    auto* control = new TPxhl(&owner);
    EXPECT_EQ(control->Owner(), &owner);

    EXPECT_EQ(control->GetIntegerProperty(PxhlDispId::ConcurrentDownloadFileCount), 3);
    EXPECT_EQ(control->GetIntegerProperty(PxhlDispId::ConnectionTimeout), 30000);
    EXPECT_FALSE(control->GetBooleanProperty(PxhlDispId::AutoRemoveCompletedFiles));
    EXPECT_TRUE(control->GetBooleanProperty(PxhlDispId::CommonSaveFolder));
    EXPECT_EQ(control->GetTextProperty(PxhlDispId::DownloadSessionTempSubfolder), L"");

    // What taking a control from the pool sets.
    EXPECT_TRUE(control->SetTextProperty(PxhlDispId::DownloadSessionTempSubfolder, L""));
    EXPECT_TRUE(control->SetBooleanProperty(PxhlDispId::AutoRemoveCompletedFiles, true));
    EXPECT_TRUE(control->SetIntegerProperty(PxhlDispId::ConcurrentDownloadFileCount, 6));
    EXPECT_TRUE(control->SetIntegerProperty(PxhlDispId::ConnectionTimeout, 4000));
    EXPECT_TRUE(control->GetBooleanProperty(PxhlDispId::AutoRemoveCompletedFiles));
    EXPECT_EQ(control->GetIntegerProperty(PxhlDispId::ConcurrentDownloadFileCount), 6);
    EXPECT_EQ(control->GetIntegerProperty(PxhlDispId::ConnectionTimeout), 4000);

    // The control's own rules still apply behind the dispatch id.
    EXPECT_TRUE(control->SetIntegerProperty(PxhlDispId::ConcurrentDownloadFileCount, 0));
    EXPECT_EQ(control->GetIntegerProperty(PxhlDispId::ConcurrentDownloadFileCount), 6);
    EXPECT_TRUE(control->SetIntegerProperty(PxhlDispId::RetryCount, -5));
    EXPECT_EQ(control->GetIntegerProperty(PxhlDispId::RetryCount), 0);

    // Texts go both ways intact, beyond ASCII too.
    const std::wstring folder = L"Sitzung \u00e9t\u00e9 \u65e5\u672c";
    EXPECT_TRUE(control->SetTextProperty(PxhlDispId::DownloadSessionTempSubfolder, folder));
    EXPECT_EQ(control->GetTextProperty(PxhlDispId::DownloadSessionTempSubfolder), folder);
    EXPECT_TRUE(control->SetTextProperty(PxhlDispId::DownloadSessionTempSubfolder, L""));

    // The raw form gives the variant the control answers with.
    OleVariant value;
    EXPECT_EQ(control->GetProperty(PxhlDispId::AutoRemoveCompletedFiles, value.Out()), S_OK);
    EXPECT_EQ(value.Type(), VT_BOOL);
    EXPECT_EQ(V_BOOL(&value.Get()), VARIANT_TRUE);
    // An unknown dispatch id is the control's refusal, not ours.
    EXPECT_TRUE(FAILED(control->GetProperty(4711, value.Out())));
    EXPECT_FALSE(control->SetIntegerProperty(4711, 1));
}

TEST(PxhlWrapper, MethodsPassTextsAndNumbersBothWaysAndReportFailuresThroughTheLastError) {
    TPxhl control(nullptr);
    const std::wstring first = axtest::PeerUrl(L"/files/one.bin");
    const std::wstring second = axtest::PeerUrl(L"/files/small.bin");
    const std::wstring display = L"Fichier \u00e0 t\u00e9l\u00e9charger";

    EXPECT_EQ(control.AddFile(first, L"1", display, L"C:\\nowhere\\one.bin", 2, L"http://127.0.0.1/ref",
                              L"user", L"secret", 0),
              0);
    EXPECT_EQ(control.AddFile(second, L"", L"", L"", 0, L"", L"", L"", 0), 1);
    EXPECT_EQ(control.GetFileInfo(0, 0), first);
    EXPECT_EQ(control.GetFileInfo(0, 3), L"1");
    EXPECT_EQ(control.GetFileInfo(0, 10), L"2");
    EXPECT_EQ(control.GetFileInfo(1, 10), L"3");  // no segment count asked: the control's default
    EXPECT_EQ(control.GetFileInfo(0, 12), L"http://127.0.0.1/ref");
    EXPECT_EQ(control.GetFileInfo(0, 15), display);
    EXPECT_EQ(control.GetFileInfo(-1, 16), L"2");
    EXPECT_EQ(control.GetFileInfo(1, 17), L"small.bin");

    // The same address again is refused with -1 and error 31; the error has its text.
    EXPECT_EQ(control.AddFile(first, L"", L"", L"", 1, L"", L"", L"", 0), -1);
    EXPECT_EQ(control.GetLastError(), 31);
    EXPECT_FALSE(control.GetLastErrorDesc().empty());

    EXPECT_TRUE(control.RemoveFile(0));
    EXPECT_EQ(control.GetFileInfo(-1, 16), L"1");
    EXPECT_TRUE(control.ClearFiles());
    EXPECT_EQ(control.GetFileInfo(-1, 16), L"0");
    EXPECT_EQ(control.AddFile(second, L"", L"", L"", 1, L"", L"", L"", 0), 0);  // ids start again

    // Stopping an idle control is harmless and keeps the last error.
    control.StopDownload();
    EXPECT_EQ(control.GetLastError(), 31);
}

TEST(PxhlWrapper, TagHoldsAPointerSizedValue) {
    TPxhl control(nullptr);
    EXPECT_EQ(control.Tag(), 0);
    int generation = 0;
    control.SetTag(reinterpret_cast<intptr_t>(&generation));
    EXPECT_EQ(reinterpret_cast<int*>(control.Tag()), &generation);
    control.SetTag(-1);
    EXPECT_EQ(control.Tag(), -1);
}

TEST(PxhlWrapper, AControlThatIsNotRegisteredThrowsTheClassLibrarysExceptionWithTheReason) {
    ASSERT_EQ(axtest::UnregisterPxhl(), S_OK);
    std::wstring message;
    try {
        TPxhl control(nullptr);
    } catch (const Exception& error) {
        message = error.Message();
    }
    ASSERT_EQ(axtest::RegisterPxhl(), S_OK);
    EXPECT_NE(message.find(L"could not be created"), std::wstring::npos)
        << std::string(message.begin(), message.end());
    EXPECT_NE(message.find(L"0x80040154"), std::wstring::npos);  // class not registered

    // Registered again, controls come as before.
    TPxhl control(nullptr);
    EXPECT_EQ(control.GetIntegerProperty(PxhlDispId::ConcurrentDownloadFileCount), 3);
}
