"""The end-to-end tests' shared library: report (checks, the case runner), pictures, screens
(a private X server), scene (the scene check), processes, users (throwaway users) and browser
(headless Chromium)."""
