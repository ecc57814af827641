#pragma once
// The toolkit's application object that tests of windows, fonts, images and
// the clipboard need; the tests run headless.
namespace KalTest {

// Makes the application object once (on the offscreen platform unless
// QT_QPA_PLATFORM names another); later calls find it made. It is kept to the
// end of the process: destroying it among the static destructors would tear
// down toolkit windows after the toolkit's own thread storage is gone.
void EnsureToolkitApp();

} // namespace KalTest
