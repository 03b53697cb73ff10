"""The build's signing step on a copy of the built program: a throw-away self-signed code-signing
certificate, the same script the POST_BUILD step runs (cmake/CodeSigning.cmake), then
`osslsigncode verify`, the PE image byte for byte, and the signed program installing under Wine.
No timestamp server is used: the tests run without a network."""

import os
import secrets
import shutil
import struct
import subprocess
import tempfile
import unittest

import wineharness as wh
from pe_image import RT_VERSION, parse_version, read_resources
from test_wine_install import BUNDLE_CONTENTS, BUNDLES, INSTALL, VERSIONED_MODULES, row_centre, tree
from wineharness import qv

SUBJECT = "/CN=Quorvane test code signing"
VERIFIED = "Signature verification: ok"


def tool(variable):
    path = os.environ.get(variable)
    if not path or not os.path.isfile(path):
        raise RuntimeError(f"{variable} names no program ({path!r}); tools/install_deps.sh installs it")
    return path


def run(command, **kwargs):
    return subprocess.run(command, capture_output=True, text=True, timeout=120, **kwargs)


def pe_fields(data):
    """File offsets of the optional header's checksum and of the certificate table's directory entry,
    the two header fields signing rewrites."""
    (pe_offset,) = struct.unpack_from("<I", data, 0x3C)
    optional = pe_offset + 24
    return optional + 64, optional + 112 + 8 * 4


def certificate_table(data):
    """(file offset, size) of the certificate table; (0, 0) when the image is unsigned."""
    return struct.unpack_from("<II", data, pe_fields(data)[1])


def version_block(path):
    blocks = [r for r in read_resources(path) if r.type == RT_VERSION]
    if len(blocks) != 1:
        raise AssertionError(f"{len(blocks)} version blocks in {path}")
    return parse_version(blocks[0].data)


class SignedProgram(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.cmake = tool("QV_CMAKE")
        cls.openssl = tool("QV_OPENSSL")
        cls.osslsigncode = tool("QV_OSSLSIGNCODE")
        cls.script = os.environ["QV_SIGN_SCRIPT"]
        cls.folder = tempfile.mkdtemp(prefix="qv-signing-")
        cls.addClassCleanup(shutil.rmtree, cls.folder, ignore_errors=True)

        cls.password = secrets.token_urlsafe(18)
        cls.password_file = cls.path("password.txt")
        with open(cls.password_file, "w") as f:
            f.write(cls.password + "\n")
        cls.certificate = cls.path("maker.pem")
        cls.pkcs12 = cls.path("maker.p12")
        key = cls.path("maker.key")
        cls.check_call([cls.openssl, "req", "-x509", "-newkey", "rsa:2048", "-nodes", "-days", "2",
                        "-subj", SUBJECT, "-keyout", key, "-out", cls.certificate,
                        "-addext", "keyUsage=critical,digitalSignature",
                        "-addext", "extendedKeyUsage=codeSigning"])
        cls.check_call([cls.openssl, "pkcs12", "-export", "-inkey", key, "-in", cls.certificate,
                        "-out", cls.pkcs12, "-passout", "file:" + cls.password_file])

        # The unsigned program to compare against; a signed build's program is stripped first.
        cls.unsigned = cls.path("unsigned.exe")
        shutil.copyfile(wh.program_path(), cls.unsigned)
        with open(cls.unsigned, "rb") as f:
            if certificate_table(f.read()) != (0, 0):
                os.rename(cls.unsigned, cls.path("built.exe"))
                cls.check_call([cls.osslsigncode, "remove-signature", "-in", cls.path("built.exe"),
                                "-out", cls.unsigned])

        cls.signed = cls.path("qv_installer.exe")
        shutil.copyfile(cls.unsigned, cls.signed)
        cls.signing = cls.sign(cls.signed, cls.password_file)
        if cls.signing.returncode != 0:
            raise RuntimeError(f"signing failed: {cls.signing.stdout}{cls.signing.stderr}")

    @classmethod
    def path(cls, name):
        return os.path.join(cls.folder, name)

    @classmethod
    def check_call(cls, command):
        done = run(command)
        if done.returncode != 0:
            raise RuntimeError(f"{command[0]} failed ({done.returncode}): {done.stdout}{done.stderr}")

    @classmethod
    def sign(cls, program, password_file):
        """The build's POST_BUILD step, run on program."""
        return run([cls.cmake, "-DQV_SIGN_FILE=" + program, "-DQV_SIGN_PKCS12=" + cls.pkcs12,
                    "-DQV_SIGN_PASSWORD_FILE=" + password_file, "-DQV_SIGN_DESCRIPTION=qv_installer",
                    "-DQV_OSSLSIGNCODE=" + cls.osslsigncode, "-P", cls.script])

    def verify(self, program):
        """osslsigncode's report and its verdict, the report's last line ("Succeeded" or "Failed"):
        verify exits with 0 even when it reports a failed signature."""
        done = run([self.osslsigncode, "verify", "-CAfile", self.certificate, "-in", program])
        lines = done.stdout.split()
        return done.stdout + done.stderr, lines[-1] if lines else ""

    def test_the_signature_verifies_against_the_maker_certificate(self):
        report, verdict = self.verify(self.signed)
        self.assertEqual(verdict, "Succeeded", report)
        self.assertIn(VERIFIED, report)
        self.assertIn("Number of verified signatures: 1", report)
        self.assertIn("Subject: " + SUBJECT, report)
        self.assertIn("Text description: qv_installer", report)

    def test_a_changed_byte_or_no_signature_fails_verification(self):
        with open(self.signed, "rb") as f:
            data = bytearray(f.read())
        # Inside the embedded archives, which the signature covers.
        data[len(data) // 2] ^= 0x01
        tampered = self.path("tampered.exe")
        with open(tampered, "wb") as f:
            f.write(data)
        for program in (tampered, self.unsigned):
            with self.subTest(program=os.path.basename(program)):
                report, verdict = self.verify(program)
                self.assertEqual(verdict, "Failed", report)
                self.assertNotIn(VERIFIED, report)

    def test_signing_appends_the_signature_and_changes_nothing_else(self):
        with open(self.unsigned, "rb") as f:
            unsigned = f.read()
        with open(self.signed, "rb") as f:
            signed = f.read()
        checksum, directory = pe_fields(unsigned)
        table_offset, table_size = certificate_table(signed)
        # The table follows the image, 8-byte aligned, and runs to the end of the file.
        self.assertEqual(table_offset, (len(unsigned) + 7) & ~7)
        self.assertEqual(table_offset + table_size, len(signed))
        self.assertEqual(signed[len(unsigned):table_offset], bytes(table_offset - len(unsigned)))

        def without_signed_fields(data):
            data = bytearray(data[:len(unsigned)])
            data[checksum:checksum + 4] = bytes(4)
            data[directory:directory + 8] = bytes(8)
            return bytes(data)

        self.assertTrue(without_signed_fields(signed) == without_signed_fields(unsigned),
                        "signing changed the image beyond the checksum and certificate table")
        self.assertEqual(version_block(self.signed), version_block(self.unsigned))
        self.assertEqual(version_block(self.signed)["string_tables"]["040904B0"]["ProductName"], "qv_installer")
        self.assertTrue(os.access(self.signed, os.X_OK))

    def test_the_password_is_never_printed(self):
        self.assertNotIn(self.password, self.signing.stdout + self.signing.stderr)

    def test_a_failed_signing_fails_and_leaves_no_program(self):
        wrong = self.path("wrong-password.txt")
        with open(wrong, "w") as f:
            f.write("not the password\n")
        program = self.path("failing.exe")
        shutil.copyfile(self.unsigned, program)
        done = self.sign(program, wrong)
        self.assertNotEqual(done.returncode, 0)
        self.assertIn("failed", done.stderr)
        self.assertFalse(os.path.exists(program), "the unsigned program was left in place")
        self.assertFalse(os.path.exists(program + ".signing"), "the half-written copy was left behind")

    def test_the_signed_program_installs_vst3_under_wine(self):
        prefix = wh.shared_prefix()
        prefix.reset()
        app = wh.WineProgram(prefix, self.signed)
        self.addCleanup(app.kill)
        app.settle(1.0)

        app.click(*row_centre("VST3"))
        app.click(*INSTALL)

        bundle = os.path.join(prefix.unix_path(wh.DEFAULT_FOLDERS["VST3"]), BUNDLES["VST3"])
        module = os.path.join(bundle, VERSIONED_MODULES["VST3"])
        self.assertTrue(qv.wait_until(lambda: os.path.isfile(module), 60, 0.2), f"{bundle} not installed")
        # The run is synchronous: once the window answers again, the bundle is complete.
        app.settle(2.0)
        self.assertEqual(tree(bundle), BUNDLE_CONTENTS["VST3"])
        self.assertEqual(version_block(module)["file_version"], (1, 0, 4, 0))
        for other in ("CLAP", "AAX"):
            self.assertFalse(os.path.exists(os.path.join(prefix.unix_path(wh.DEFAULT_FOLDERS[other]), BUNDLES[other])))
        self.assertEqual(app.close_and_wait(), 0, app.log())


if __name__ == "__main__":
    unittest.main()
