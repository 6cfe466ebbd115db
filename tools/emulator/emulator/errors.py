"""Why an emulated run stops."""


class EmulationError(Exception):
    """The run cannot go on: the message says where and why."""


class ApiMisuse(EmulationError):
    """The program called an imported function against the SDK's rules."""


class UnknownImport(EmulationError):
    """The image imports a function that the harness does not serve."""


class ScenarioFailure(EmulationError):
    """A scenario's command could not be carried out."""
