#pragma once
#include <string>

// WebKit's web process sandbox (bubblewrap, with a seccomp filter). It is
// turned on once, before the first web view, where the system can provide
// it; where it cannot (no bubblewrap, no user namespaces), pages run without
// it rather than not at all, and the reason is said once on standard error.
void EnableWebSandbox();

// Empty when pages run in the sandbox; otherwise the text that says they do
// not, for the status bar.
const std::string& WebSandboxUnavailableText();
