#!/usr/bin/python
# -*- coding: utf-8 -*-
# Copyright 2026 the label-printer-setup developers

from __future__ import absolute_import, division, print_function

__metaclass__ = type

DOCUMENTATION = r"""
---
module: label_printer_profile
short_description: Apply a printer profile to USB thermal label printers, or report them as facts
version_added: "0.1.0"
description:
  - Brings the label printers attached to the managed host to the settings of a printer profile
    (a JSON file written by C(label-printer-cli backup)).
  - It first asks the printers what would change (C(label-printer-cli restore --check)), which
    sends no setting; only when something would change, and not in check mode, does it restore the
    profile. A second run therefore reports no change.
  - With I(state=facts) it reports the attached printers (C(label-printer-cli list)) as the fact
    C(label_printers) and changes nothing.
  - It drives C(label-printer-cli --json) only, which must be installed on the managed host; a
    failure fails the task with the command line's own message.
options:
  profile:
    description:
      - The printer profile on the managed host. Required with I(state=present).
    type: path
  serial:
    description:
      - The printer with this serial number, wherever it is plugged in.
      - Mutually exclusive with I(port) and I(all).
    type: str
  port:
    description:
      - The printer on this USB port or path (C(4), C(2.4), C(1-2.4)), as C(label-printer-cli list)
        shows it.
      - Mutually exclusive with I(serial) and I(all).
    type: str
  all:
    description:
      - Every attached printer of the profile's model.
      - Without I(serial), I(port) or I(all) the only printer attached is used.
    type: bool
    default: false
  verify:
    description:
      - Read every written page back and compare it with what was sent. A value the printer did
        not keep fails the task.
    type: bool
    default: true
  state:
    description:
      - C(present) applies the profile; C(facts) only reports the attached printers.
    type: str
    choices: [present, facts]
    default: present
  executable:
    description:
      - The command line to run, when it is not C(label-printer-cli) on the search path.
    type: path
    default: label-printer-cli
attributes:
  check_mode:
    support: full
  diff_mode:
    support: full
notes:
  - The user the task runs as must be allowed to open the printers (the package's udev rule gives
    them to the user at the seat; root may always).
author:
  - the label-printer-setup developers
"""

EXAMPLES = r"""
- name: Every Orbeck VS-608K of the station holds the shop's profile
  labelsetup.printers.label_printer_profile:
    profile: /etc/label-printers/shop.json
    all: true

- name: One printer by its serial number, whatever port it is plugged into
  labelsetup.printers.label_printer_profile:
    profile: /etc/label-printers/shop.json
    serial: OB60800054321

- name: The printers attached, as facts
  labelsetup.printers.label_printer_profile:
    state: facts

- name: Their serial numbers
  ansible.builtin.debug:
    msg: "{{ ansible_facts.label_printers | map(attribute='serial') | list }}"
"""

RETURN = r"""
printers:
  description:
    - One entry a printer the profile was compared with or applied to, as
      C(label-printer-cli restore --json) reports it, in check mode as C(restore --check --json).
  returned: state is present
  type: list
  elements: dict
  contains:
    path:
      description: The printer's USB path.
      type: str
      sample: "1-2.4"
    serial:
      description: The serial number the printer reports (null when it could not be read).
      type: str
      sample: OB60800054321
    model:
      description: Brand and product.
      type: str
      sample: Orbeck VS-608K
    outcome:
      description:
        - unchanged, would-write, verified, written-not-verified, not-kept, skipped or failed.
      type: str
    pages:
      description: Per page its outcome and the changed keys with their values before and after.
      type: list
      elements: dict
summary:
  description: How many printers ended in each outcome.
  returned: state is present
  type: dict
ansible_facts:
  description: The attached printers.
  returned: state is facts
  type: dict
  contains:
    label_printers:
      description:
        - One entry a printer as C(label-printer-cli list --json) reports it, in the order of the
          USB paths (path, port, brand, product, model, vendor-id, product-id, serial, state,
          ready).
      type: list
      elements: dict
"""

import json

from ansible.module_utils.basic import AnsibleModule

# The command line's exit statuses this module tells apart.
EXIT_OK = 0
EXIT_WOULD_CHANGE = 8


def json_lines(text):
    """The JSON objects of a text, one a line; lines that are none are left out."""
    objects = []
    for line in text.splitlines():
        line = line.strip()
        if not line.startswith("{"):
            continue
        try:
            objects.append(json.loads(line))
        except ValueError:
            pass
    return objects


def document(text):
    """The one JSON document of standard output, or None."""
    try:
        value = json.loads(text)
    except ValueError:
        return None
    return value if isinstance(value, dict) else None


def failure_message(rc, out, err):
    """What the command line said about its failure: its JSON errors, else the printers' own."""
    errors = [o.get("error") for o in json_lines(err) if o.get("error")]
    if errors:
        return "\n".join(errors)
    # A printer that failed, was skipped or did not keep a value: its path and why.
    result = document(out) or {}
    for printer in result.get("printers", []):
        if printer.get("outcome") not in ("failed", "skipped", "not-kept"):
            continue
        why = [printer.get("detail") or printer.get("outcome")]
        for page in printer.get("pages", []):
            for kept in page.get("not-kept", []):
                why.append("%s.%s: sent %s, kept %s" % (page.get("page"), kept.get("key"),
                                                         kept.get("sent"), kept.get("kept")))
        errors.append("%s: %s" % (printer.get("path"), "; ".join(str(w) for w in why)))
    if errors:
        return "\n".join(errors)
    return (err.strip() or out.strip() or "label-printer-cli ended with status %d" % rc)


def shown(change, side):
    if change.get("secret"):
        return "(secret)"
    value = change.get(side)
    return "" if value is None else str(value)


def printer_diffs(printers):
    """Ansible's diff, one a printer that would change: its changed keys before and after."""
    diffs = []
    for printer in printers:
        before, after = [], []
        for page in printer.get("pages", []):
            for change in page.get("changes", []):
                name = "%s.%s" % (page.get("page"), change.get("key"))
                before.append("%s = %s\n" % (name, shown(change, "before")))
                after.append("%s = %s\n" % (name, shown(change, "after")))
        if not before:
            continue
        header = "%s (%s)" % (printer.get("path"), printer.get("serial") or "?")
        diffs.append({
            "before_header": header,
            "after_header": header,
            "before": "".join(before),
            "after": "".join(after),
        })
    return diffs


class CommandLine(object):
    def __init__(self, module):
        self.module = module
        self.executable = module.get_bin_path(module.params["executable"], required=True)

    def run(self, arguments):
        # The messages in the language the module's environment gives, as the command line says.
        return self.module.run_command([self.executable] + arguments + ["--json"])

    def fail(self, rc, out, err, **extra):
        self.module.fail_json(msg=failure_message(rc, out, err), rc=rc, **extra)


def gather_facts(module, cli):
    rc, out, err = cli.run(["list"])
    result = document(out)
    if rc != EXIT_OK or result is None:
        cli.fail(rc, out, err)
    module.exit_json(changed=False, ansible_facts={"label_printers": result.get("printers", [])})


def apply_profile(module, cli):
    params = module.params
    selector = []
    if params["serial"] is not None:
        selector = ["--serial", params["serial"]]
    elif params["port"] is not None:
        selector = ["--port", params["port"]]
    elif params["all"]:
        selector = ["--all"]
    restore = selector + ["restore", params["profile"]]

    # What would change, asked without sending any setting.
    rc, out, err = cli.run(restore + ["--check"])
    checked = document(out)
    if rc not in (EXIT_OK, EXIT_WOULD_CHANGE) or checked is None:
        cli.fail(rc, out, err, printers=(checked or {}).get("printers", []))
    printers = checked.get("printers", [])
    if rc == EXIT_OK:
        module.exit_json(changed=False, printers=printers, summary=checked.get("summary", {}))
    diff = printer_diffs(printers)
    if module.check_mode:
        module.exit_json(changed=True, printers=printers, summary=checked.get("summary", {}),
                         diff=diff)

    rc, out, err = cli.run(restore + ([] if params["verify"] else ["--no-verify"]))
    applied = document(out) or {}
    if rc != EXIT_OK:
        cli.fail(rc, out, err, printers=applied.get("printers", []), diff=diff)
    module.exit_json(changed=True, printers=applied.get("printers", []),
                     summary=applied.get("summary", {}), diff=diff)


def main():
    module = AnsibleModule(
        argument_spec=dict(
            profile=dict(type="path"),
            serial=dict(type="str"),
            port=dict(type="str"),
            all=dict(type="bool", default=False),
            verify=dict(type="bool", default=True),
            state=dict(type="str", choices=["present", "facts"], default="present"),
            executable=dict(type="path", default="label-printer-cli"),
        ),
        mutually_exclusive=[("serial", "port"), ("serial", "all"), ("port", "all")],
        required_if=[("state", "present", ["profile"])],
        supports_check_mode=True,
    )
    cli = CommandLine(module)
    if module.params["state"] == "facts":
        gather_facts(module, cli)
    else:
        apply_profile(module, cli)


if __name__ == "__main__":
    main()
