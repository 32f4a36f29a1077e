#!/usr/bin/env python3
"""The administrative templates against the client's reader: both ADML and the ADMX are well
formed (xmllint --noout); every policy of the ADMX is under the key the reader opens and names
only the values the reader knows (policy_names.h); every choice of CloseBehavior is a word the
reader accepts (machine_policy.cpp); each ADML defines every string and presentation the ADMX
refers to, and its presentations point at the ADMX's elements.
Usage: policy_templates_test.py SOURCE_DIR (client/policy)"""
import re
import subprocess
import sys
import xml.etree.ElementTree as ET
from pathlib import Path

NS = {"p": "http://schemas.microsoft.com/GroupPolicy/2006/07/PolicyDefinitions"}
source = Path(sys.argv[1])
templates = source / "templates"
admx_path = templates / "CorvaneClient.admx"
adml_paths = [templates / lang / "CorvaneClient.adml" for lang in ("zh-CN", "en-US")]
failures = []


def fail(text):
    failures.append(text)
    print("FAIL:", text)


for path in [admx_path, *adml_paths]:
    run = subprocess.run(["xmllint", "--noout", str(path)], capture_output=True, text=True)
    if run.returncode != 0:
        fail(f"xmllint {path.name}: {run.stderr.strip()}")
if failures:
    sys.exit(1)

# The reader's constants, as the C++ source spells them.
names = (source / "policy_names.h").read_text(encoding="utf-8")
constants = {m[0]: m[1].replace("\\\\", "\\") for m in re.findall(r'constexpr wchar_t (\w+)\[\] = L"((?:[^"\\]|\\.)*)"', names)}
key = constants["kPolicyRegistryKey"]
reader_values = {constants["kUpdateCheckPolicy"], constants["kCloseBehaviorPolicy"]}
decoder = (source / "machine_policy.cpp").read_text(encoding="utf-8")
accepted_words = set(re.findall(r'text == L"([a-z]+)"\) return CloseBehavior::', decoder))
if accepted_words != {"ask", "minimize", "exit"}:
    fail(f"the reader's CloseBehavior words were not found as expected: {sorted(accepted_words)}")

admx = ET.parse(admx_path).getroot()
admx_text = admx_path.read_text(encoding="utf-8")
value_names = set()
for policy in admx.iterfind(".//p:policy", NS):
    if policy.get("key") != key:
        fail(f"policy {policy.get('name')}: key {policy.get('key')!r}, the reader opens {key!r}")
    if policy.get("class") != "Machine":
        fail(f"policy {policy.get('name')}: class {policy.get('class')}, the reader reads HKLM only")
    if policy.get("valueName"):
        value_names.add(policy.get("valueName"))
    for element in policy.iterfind("p:elements/*", NS):
        if element.get("key") not in (None, key):
            fail(f"element {element.get('id')}: key {element.get('key')!r}")
        value_names.add(element.get("valueName"))
if value_names != reader_values:
    fail(f"the ADMX writes {sorted(value_names)}, the reader reads {sorted(reader_values)}")
update = admx.find(".//p:policy[@valueName='UpdateCheck']", NS)
if update is None or update.find("p:enabledValue/p:decimal[@value='1']", NS) is None or \
        update.find("p:disabledValue/p:decimal[@value='0']", NS) is None:
    fail("UpdateCheck is not written as REG_DWORD 1 (enabled) and 0 (disabled)")
choices = {s.text for s in admx.iterfind(".//p:enum[@valueName='CloseBehavior']/p:item/p:value/p:string", NS)}
if choices != accepted_words:
    fail(f"CloseBehavior's choices {sorted(choices)} are not the reader's {sorted(accepted_words)}")

strings = set(re.findall(r"\$\(string\.(\w+)\)", admx_text))
presentations = set(re.findall(r"\$\(presentation\.(\w+)\)", admx_text))
element_ids = {e.get("id") for e in admx.iterfind(".//p:elements/*", NS)}
if not strings or not presentations:
    fail("the ADMX refers to no strings or no presentations")
for path in adml_paths:
    adml = ET.parse(path).getroot()
    lang = path.parent.name
    defined = {s.get("id") for s in adml.iterfind(".//p:stringTable/p:string", NS) if (s.text or "").strip()}
    for missing in sorted(strings - defined):
        fail(f"{lang}: string {missing} is not defined")
    for extra in sorted(defined - strings):
        fail(f"{lang}: string {extra} is not used by the ADMX")
    shown = {p.get("id"): p for p in adml.iterfind(".//p:presentationTable/p:presentation", NS)}
    for missing in sorted(presentations - set(shown)):
        fail(f"{lang}: presentation {missing} is not defined")
    for presentation in shown.values():
        for part in presentation:
            if part.get("refId") not in element_ids:
                fail(f"{lang}: presentation {presentation.get('id')} refers to {part.get('refId')}, no element of the ADMX")

print(f"{len(failures)} failure(s)")
sys.exit(1 if failures else 0)
