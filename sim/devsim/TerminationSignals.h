#pragma once

// Makes SIGINT and SIGTERM end the application's event loop normally, so that the work done
// at exit (writing the flash image, removing the link) still happens.
void QuitOnTerminationSignals();
