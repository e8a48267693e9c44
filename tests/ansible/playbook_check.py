#!/usr/bin/python3
"""The label_printer_profile module as a configuration manager runs it: ansible-playbook,
connection local, against two virtual Orbeck VS-608K printers under the virtual-printers launcher.

- In check mode with --diff it reports, for each printer, the keys that would change with their
  values before and after, and no set frame reaches either printer.
- The first real run changes both printers and leaves them holding the profile; the second run
  changes nothing.
- A profile the command line refuses fails the task with the command line's own message.
- state: facts reports the printers as list --json does.

    playbook_check.py --launcher VIRTUAL_PRINTERS --cli LABEL_PRINTER_CLI --collection DIR
"""
import argparse
import json
import os
import re
import subprocess
import sys
import tempfile

# A whole print page for the VS-608K whose speed, density and language differ from what a
# virtual printer holds from the factory.
PROFILE = {
    "format": 1,
    "model": "Orbeck VS-608K",
    "pages": {
        "print": {
            "values": {
                "speed": "1", "density": "3", "label-gap": "2", "black-mark-gap": "3",
                "direction": "0", "mirror": "normal", "print-offset": "0",
                "vertical-offset": "0", "print-method": "thermal", "paper-type": "label",
                "code-page": "0", "language": "ZPL",
            }
        }
    },
}
# The same with a key no page has: the command line refuses the file before sending anything.
BAD_PROFILE = {
    "format": 1,
    "model": "Orbeck VS-608K",
    "pages": {"print": {"values": {"speedy": "1"}}},
}
PRINTERS = ["--printer", "1401:3:VS-608K", "--printer", "1401:5:VS-608K"]
EXPECTED_CHANGES = {"print.speed = 2": "print.speed = 1",
                    "print.density = 8": "print.density = 3",
                    "print.language = TSPL": "print.language = ZPL"}

PLAYBOOK = """
- hosts: localhost
  connection: local
  gather_facts: false
  vars:
    ansible_python_interpreter: "{{ ansible_playbook_python }}"
  tasks:
    - name: facts
      labelsetup.printers.label_printer_profile:
        state: facts
        executable: "{{ cli }}"
    - name: apply
      labelsetup.printers.label_printer_profile:
        profile: "{{ profile }}"
        all: true
        executable: "{{ cli }}"
"""

failures = []


def check(condition, what):
    if not condition:
        failures.append(what)
        print("FAIL: " + what, file=sys.stderr)
    return condition


def task_results(output):
    """The task_results callback's document at the start of `output` (the launcher's log may
    follow): per task name its result for localhost."""
    start = output.find("{")
    if start < 0:
        return {}
    document, _ = json.JSONDecoder().raw_decode(output[start:])
    return {name: hosts.get("localhost", {}) for name, hosts in document["tasks"].items()}


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--launcher", required=True)
    parser.add_argument("--cli", required=True)
    parser.add_argument("--collection", required=True)
    args = parser.parse_args()

    work = tempfile.mkdtemp(prefix="ansible-")
    namespace = os.path.join(work, "ansible_collections", "labelsetup")
    os.makedirs(namespace)
    os.symlink(os.path.abspath(args.collection), os.path.join(namespace, "printers"))
    files = {}
    for name, content in (("good.json", PROFILE), ("bad.json", BAD_PROFILE)):
        files[name] = os.path.join(work, name)
        with open(files[name], "w") as f:
            json.dump(content, f)
    playbook = os.path.join(work, "playbook.yml")
    with open(playbook, "w") as f:
        f.write(PLAYBOOK)

    env = dict(os.environ)
    env.pop("UMOCKDEV_DIR", None)
    env.update({
        "ANSIBLE_COLLECTIONS_PATH": work,
        "ANSIBLE_STDOUT_CALLBACK": "task_results",
        "ANSIBLE_CALLBACK_PLUGINS": os.path.join(os.path.dirname(os.path.abspath(__file__)),
                                                 "callback_plugins"),
        "ANSIBLE_HOME": os.path.join(work, "home"),
        "ANSIBLE_LOCAL_TEMP": os.path.join(work, "tmp"),
        "ANSIBLE_REMOTE_TEMP": os.path.join(work, "tmp"),
        "ANSIBLE_LOCALHOST_WARNING": "false",
        "ANSIBLE_INVENTORY_UNPARSED_WARNING": "false",
        "ANSIBLE_NOCOLOR": "1",
        "ANSIBLE_RETRY_FILES_ENABLED": "false",
        "QT_LOGGING_RULES": "labelsetup.*.debug=false",
        "LC_ALL": "C.UTF-8",  # the module's messages and the command line's, in one language
    })
    playbook_run = ["ansible-playbook", "-i", "localhost,", playbook,
                    "-e", "cli=" + os.path.abspath(args.cli)]

    def under_launcher(command, log=False):
        return subprocess.run([args.launcher] + (["--log"] if log else []) + PRINTERS +
                              ["--"] + command, env=env, stdout=subprocess.PIPE,
                              stderr=subprocess.PIPE, universal_newlines=True, timeout=240)

    # The documentation block parses (ansible-doc refuses a module whose blocks do not).
    doc = subprocess.run(["ansible-doc", "-t", "module", "labelsetup.printers.label_printer_profile"],
                         env=env, stdout=subprocess.PIPE, stderr=subprocess.PIPE,
                         universal_newlines=True, timeout=120)
    check(doc.returncode == 0 and "profile" in doc.stdout, "ansible-doc: " + doc.stderr)

    # Check mode with --diff: what would change on each printer, and not one set frame.
    run = under_launcher(playbook_run + ["-e", "profile=" + files["good.json"], "--check",
                                         "--diff"], log=True)
    check(run.returncode == 0, "check run ended with %d: %s" % (run.returncode, run.stderr))
    results = task_results(run.stdout)
    applied = results.get("apply", {})
    check(applied.get("changed") is True, "check run: not changed: %s" % applied)
    diffs = applied.get("diff", [])
    check([d.get("before_header") for d in diffs] == ["1-3 (ZR311P3)", "1-5 (ZR311P5)"],
          "check run: diff headers: %s" % diffs)
    for d in diffs:
        before = d.get("before", "").splitlines()
        after = d.get("after", "").splitlines()
        check(dict(zip(before, after)) == EXPECTED_CHANGES, "check run: diff: %s" % d)
    outcomes = [p.get("outcome") for p in applied.get("printers", [])]
    check(outcomes == ["would-write", "would-write"], "check run: outcomes %s" % outcomes)
    log = run.stdout[run.stdout.find("Orbeck VS-608K (5C1E:1401)"):]
    check("Orbeck VS-608K (5C1E:1401) on port 5" in log, "no launcher log: %s" % run.stdout[-500:])
    set_frames = re.findall(r"OUT\s+\d+: 1B FF FE 01.*", log)
    check(set_frames == [], "check mode sent set frames: %s" % set_frames)
    facts = results.get("facts", {}).get("ansible_facts", {}).get("label_printers", [])
    check([(p.get("path"), p.get("serial"), p.get("ready")) for p in facts] ==
          [("1-3", "ZR311P3", True), ("1-5", "ZR311P5", True)], "facts: %s" % facts)

    # Twice for real, then the refused profile, then whether the printers hold the profile.
    script = r'''
run() { "$@"; echo "status $?" >&2; }
out=$1; shift
run "$@" -e profile=$GOOD > $out/first.json
run "$@" -e profile=$GOOD > $out/second.json
run "$@" -e profile=$BAD > $out/bad-run.json
"$CLI" --json restore --all "$BAD" 2> $out/bad-cli.err; echo "cli $?" >&2
for port in 3 5; do "$CLI" --port $port diff "$GOOD" > /dev/null; echo "diff $port $?" >&2; done
'''
    env.update({"GOOD": files["good.json"], "BAD": files["bad.json"], "CLI": args.cli})
    run = under_launcher(["bash", "-c", script, "bash", work] + playbook_run)
    statuses = re.findall(r"^(?:status|cli|diff \d) \d+$", run.stderr, re.M)
    check(statuses == ["status 0", "status 0", "status 2", "cli 5", "diff 3 0", "diff 5 0"],
          "statuses %s: %s" % (statuses, run.stderr[-2000:]))

    def results_of(name):
        try:
            with open(os.path.join(work, name)) as f:
                return task_results(f.read())
        except (OSError, ValueError) as e:
            check(False, "%s: %s" % (name, e))
            return {}

    first = results_of("first.json").get("apply", {})
    check(first.get("changed") is True, "first run: %s" % first)
    check([(p.get("path"), p.get("outcome")) for p in first.get("printers", [])] ==
          [("1-3", "verified"), ("1-5", "verified")], "first run: %s" % first)
    second = results_of("second.json").get("apply", {})
    check(second.get("changed") is False, "second run changed: %s" % second)
    check([p.get("outcome") for p in second.get("printers", [])] == ["unchanged", "unchanged"],
          "second run: %s" % second)

    bad = results_of("bad-run.json").get("apply", {})
    with open(os.path.join(work, "bad-cli.err")) as f:
        cli_error = json.loads(f.readline())
    check(bad.get("failed") is True, "bad profile did not fail: %s" % bad)
    check(bool(cli_error.get("error")) and bad.get("msg") == cli_error["error"],
          "bad profile: task says %r, the command line %r" % (bad.get("msg"), cli_error))
    check(bad.get("rc") == 5, "bad profile: rc %s" % bad.get("rc"))

    if failures:
        print("%d checks failed; the work folder is kept: %s" % (len(failures), work),
              file=sys.stderr)
        return 1
    subprocess.run(["rm", "-rf", work])
    print("playbook check passed")
    return 0


if __name__ == "__main__":
    sys.exit(main())
