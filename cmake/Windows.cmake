# Windows builds of the storage engine and its tests, run under Wine.
