// A late-bound script client of the download control, run by the system's script host:
//   cscript //nologo PxhlClient.js
// It creates the control by its ProgID, sets properties, queues files and reads them back.
// Prints one line per check and ends with exit code 0 when every check held, 1 otherwise.
var failures = 0;

function check(name, actual, expected) {
    var held = actual === expected;
    WScript.Echo((held ? "ok   " : "FAIL ") + name + ": " + actual + (held ? "" : " (expected " + expected + ")"));
    if (!held) {
        failures++;
    }
}

var control = new ActiveXObject("Pxhl.Pxhl");
check("ConnectionTimeout default", control.ConnectionTimeout, 30000);
control.ConnectionTimeout = 4000;
check("ConnectionTimeout", control.ConnectionTimeout, 4000);
control.RetryCount = -5;
check("RetryCount", control.RetryCount, 0);
control.ConcurrentDownloadFileCount = 0;
check("ConcurrentDownloadFileCount", control.ConcurrentDownloadFileCount, 3);
control.AutoRemoveCompletedFiles = true;
check("AutoRemoveCompletedFiles", control.AutoRemoveCompletedFiles, true);
control.DownloadSessionTempSubfolder = "";

var first = control.AddFile("http://127.0.0.1/photos/one.jpg", "1048576", "One", "C:\\saved\\one.jpg|123-456",
                            2, "http://127.0.0.1/", "", "", 0);
var second = control.AddFile("https://127.0.0.1:8443/two.mp4", "", "", "", 0, "", "user", "secret", 0);
check("first id", first, 0);
check("second id", second, 1);
check("count", control.GetFileInfo(first, 16), "2");
check("url", control.GetFileInfo(first, 0), "http://127.0.0.1/photos/one.jpg");
check("size", control.GetFileInfo(first, 3), "1048576");
check("unknown size", control.GetFileInfo(second, 3), "-1");
check("requested segments", control.GetFileInfo(first, 10), "2");
check("default segments", control.GetFileInfo(second, 10), "3");
check("display name", control.GetFileInfo(first, 15), "One");
check("user name", control.GetFileInfo(second, 13), "user");
check("name from url", control.GetFileInfo(second, 17), "two.mp4");

var duplicate = control.AddFile("HTTP://127.0.0.1/PHOTOS/ONE.JPG", "", "", "", 0, "", "", "", 0);
check("duplicate id", duplicate, -1);
check("duplicate error", control.GetLastError(), 31);
check("error text", control.GetLastErrorDesc().length > 0, true);

check("remove", control.RemoveFile(first), true);
check("count after remove", control.GetFileInfo(-1, 16), "1");
check("clear", control.ClearFiles(), true);
check("count after clear", control.GetFileInfo(-1, 16), "0");

WScript.Quit(failures === 0 ? 0 : 1);
